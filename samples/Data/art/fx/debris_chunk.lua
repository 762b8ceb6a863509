fx = {
    style = "STYLE_RING",
    properties = {
        property_00 = {
            name = "Radius",
            type = "VARTYPE_ARRAY_TIMEFLOAT",
            value = {0, 0.35, 1, 0.35},
        },
        property_01 = {
            name = "SpinX",
            type = "VARTYPE_ARRAY_TIMEFLOAT",
            value = {0, 60, 1, 20},
        },
        property_02 = {
            name = "SpinY",
            type = "VARTYPE_ARRAY_TIMEFLOAT",
            value = {0, 40, 1, 10},
        },
        property_03 = {
            name = "Colour",
            type = "VARTYPE_ARRAY_TIMECOLOUR",
            value = {
                entry_00 = {0, 0.45, 0.4, 0.35, 1},
                entry_01 = {1, 0.3, 0.27, 0.25, 1},
            },
        },
        property_04 = {
            name = "RadiusEpsilon",
            type = "VARTYPE_FLOAT",
            value = 0.8,
        },
        property_05 = {
            name = "SpinEpsilonX",
            type = "VARTYPE_FLOAT",
            value = 1,
        },
        property_06 = {
            name = "SpinEpsilonY",
            type = "VARTYPE_FLOAT",
            value = 1,
        },
        property_07 = {
            name = "SpinRandom",
            type = "VARTYPE_BOOL",
            value = 1,
        },
        property_08 = {
            name = "Duration",
            type = "VARTYPE_FLOAT",
            value = 2,
        },
        property_09 = {
            name = "UseMesh",
            type = "VARTYPE_BOOL",
            value = 1,
        },
        property_10 = {
            name = "UseDepthTest",
            type = "VARTYPE_BOOL",
            value = 1,
        },
        property_11 = {
            name = "Blending",
            type = "VARTYPE_INT",
            value = 0,
        },
        property_12 = {
            name = "Mesh",
            type = "VARTYPE_STRING",
            value = "Data:art/fx/shard.kmo",
        },
    },
}
