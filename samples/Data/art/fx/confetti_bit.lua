fx = {
    style = "STYLE_RING",
    properties = {
        property_00 = {
            name = "Radius",
            type = "VARTYPE_ARRAY_TIMEFLOAT",
            value = {0, 0.2, 1, 0.2},
        },
        property_01 = {
            name = "SpinX",
            type = "VARTYPE_ARRAY_TIMEFLOAT",
            value = {0, 90, 1, 90},
        },
        property_02 = {
            name = "SpinZ",
            type = "VARTYPE_ARRAY_TIMEFLOAT",
            value = {0, 60, 1, 60},
        },
        property_03 = {
            name = "Colour",
            type = "VARTYPE_ARRAY_TIMECOLOUR",
            value = {
                entry_00 = {0, 1, 0.3, 0.5, 1},
                entry_01 = {0.5, 0.3, 0.8, 1, 1},
                entry_02 = {1, 1, 0.9, 0.2, 0},
            },
        },
        property_04 = {
            name = "SpinEpsilonX",
            type = "VARTYPE_FLOAT",
            value = 1,
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
            value = 3,
        },
        property_08 = {
            name = "Billboard",
            type = "VARTYPE_BOOL",
            value = 0,
        },
        property_09 = {
            name = "Blending",
            type = "VARTYPE_INT",
            value = 1,
        },
        property_10 = {
            name = "Texture",
            type = "VARTYPE_STRING",
            value = "Data:art/fx/point.tga",
        },
    },
}
