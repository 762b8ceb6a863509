fx = {
    style = "STYLE_RING",
    properties = {
        property_00 = {
            name = "Radius",
            type = "VARTYPE_ARRAY_TIMEFLOAT",
            value = {0, 0.2, 0.15, 1.6, 0.6, 1.2, 1, 0},
        },
        property_01 = {
            name = "Offset",
            type = "VARTYPE_ARRAY_TIMEVECTOR3",
            value = {
                entry_00 = {0, 0, 0, 0},
                entry_01 = {1, 0, 0.5, 0},
            },
        },
        property_02 = {
            name = "SpinX",
            type = "VARTYPE_ARRAY_TIMEFLOAT",
            value = {0, 0, 1, 0},
        },
        property_03 = {
            name = "SpinY",
            type = "VARTYPE_ARRAY_TIMEFLOAT",
            value = {0, 0, 1, 0},
        },
        property_04 = {
            name = "SpinZ",
            type = "VARTYPE_ARRAY_TIMEFLOAT",
            value = {0, 0, 0.5, 90, 1, 180},
        },
        property_05 = {
            name = "Colour",
            type = "VARTYPE_ARRAY_TIMECOLOUR",
            value = {
                entry_00 = {0, 1, 0.95, 0.7, 1},
                entry_01 = {0.2, 1, 0.75, 0.3, 1},
                entry_02 = {0.6, 0.9, 0.35, 0.1, 0.8},
                entry_03 = {1, 0.4, 0.1, 0.05, 0},
            },
        },
        property_06 = {
            name = "RadiusEpsilon",
            type = "VARTYPE_FLOAT",
            value = 0.25,
        },
        property_07 = {
            name = "RateEpsilon",
            type = "VARTYPE_FLOAT",
            value = 0.1,
        },
        property_08 = {
            name = "SpinEpsilonX",
            type = "VARTYPE_FLOAT",
            value = 0,
        },
        property_09 = {
            name = "SpinEpsilonY",
            type = "VARTYPE_FLOAT",
            value = 0,
        },
        property_10 = {
            name = "SpinEpsilonZ",
            type = "VARTYPE_FLOAT",
            value = 0.5,
        },
        property_11 = {
            name = "SpinRandom",
            type = "VARTYPE_BOOL",
            value = 1,
        },
        property_12 = {
            name = "Duration",
            type = "VARTYPE_FLOAT",
            value = 0.8,
        },
        property_13 = {
            name = "UseMesh",
            type = "VARTYPE_BOOL",
            value = 0,
        },
        property_14 = {
            name = "UseDepthTest",
            type = "VARTYPE_BOOL",
            value = 0,
        },
        property_15 = {
            name = "UseDepthSort",
            type = "VARTYPE_BOOL",
            value = 0,
        },
        property_16 = {
            name = "Loop",
            type = "VARTYPE_BOOL",
            value = 0,
        },
        property_17 = {
            name = "AlternateFOV",
            type = "VARTYPE_BOOL",
            value = 0,
        },
        property_18 = {
            name = "Billboard",
            type = "VARTYPE_BOOL",
            value = 1,
        },
        property_19 = {
            name = "SelfIlluminated",
            type = "VARTYPE_BOOL",
            value = 1,
        },
        property_20 = {
            name = "Blending",
            type = "VARTYPE_INT",
            value = 2,
        },
        property_21 = {
            name = "Texture",
            type = "VARTYPE_STRING",
            value = "Data:art/fx/point.tga",
        },
        property_22 = {
            name = "Mesh",
            type = "VARTYPE_STRING",
            value = "Data:art/fx/box.kmo",
        },
        property_23 = {
            name = "Spawn_Fx",
            type = "VARTYPE_STRING",
            value = "",
        },
        property_24 = {
            name = "BirthSpawn_Fx",
            type = "VARTYPE_STRING",
            value = "",
        },
        property_25 = {
            name = "RandomBitmap",
            type = "VARTYPE_BOOL",
            value = 0,
        },
        property_26 = {
            name = "SortOrder",
            type = "VARTYPE_INT",
            value = 0,
        },
        property_27 = {
            name = "DepthOffset",
            type = "VARTYPE_FLOAT",
            value = 0,
        },
        property_28 = {
            name = "PointDistance",
            type = "VARTYPE_FLOAT",
            value = -1,
        },
    },
}
