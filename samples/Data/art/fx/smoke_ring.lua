fx = {
    style = "STYLE_RING",
    properties = {
        property_00 = {
            name = "Radius",
            type = "VARTYPE_ARRAY_TIMEFLOAT",
            value = {0, 0.6, 1, 3},
        },
        property_01 = {
            name = "SpinZ",
            type = "VARTYPE_ARRAY_TIMEFLOAT",
            value = {0, 4, 1, 1},
        },
        property_02 = {
            name = "Colour",
            type = "VARTYPE_ARRAY_TIMECOLOUR",
            value = {
                entry_00 = {0, 0.55, 0.55, 0.55, 0},
                entry_01 = {0.15, 0.5, 0.5, 0.5, 0.55},
                entry_02 = {1, 0.35, 0.35, 0.35, 0},
            },
        },
        property_03 = {
            name = "RadiusEpsilon",
            type = "VARTYPE_FLOAT",
            value = 0.4,
        },
        property_04 = {
            name = "RateEpsilon",
            type = "VARTYPE_FLOAT",
            value = 0.3,
        },
        property_05 = {
            name = "SpinEpsilonZ",
            type = "VARTYPE_FLOAT",
            value = 1,
        },
        property_06 = {
            name = "SpinRandom",
            type = "VARTYPE_BOOL",
            value = 1,
        },
        property_07 = {
            name = "Duration",
            type = "VARTYPE_FLOAT",
            value = 2.5,
        },
        property_08 = {
            name = "Billboard",
            type = "VARTYPE_BOOL",
            value = 1,
        },
        property_09 = {
            name = "UseDepthSort",
            type = "VARTYPE_BOOL",
            value = 1,
        },
        property_10 = {
            name = "Blending",
            type = "VARTYPE_INT",
            value = 1,
        },
        property_11 = {
            name = "Texture",
            type = "VARTYPE_STRING",
            value = "Data:art/fx/smoke.tga",
        },
    },
}
