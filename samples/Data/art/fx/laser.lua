fx = {
    style = "STYLE_BEAM",
    properties = {
        property_00 = {
            name = "Duration",
            type = "VARTYPE_FLOAT",
            value = 4,
        },
        property_01 = {
            name = "Loop",
            type = "VARTYPE_BOOL",
            value = 1,
        },
        property_02 = {
            name = "Blending",
            type = "VARTYPE_INT",
            value = 2,
        },
        property_03 = {
            name = "Texture",
            type = "VARTYPE_STRING",
            value = "Data:art/fx/flare_streak.tga",
        },
        property_04 = {
            name = "Offset",
            type = "VARTYPE_ARRAY_TIMEVECTOR3",
            value = {
                entry_00 = {0, 0, 1, 0},
                entry_01 = {1, 0, 1, 0},
            },
        },
        property_05 = {
            name = "Length",
            type = "VARTYPE_ARRAY_TIMEFLOAT",
            value = {0, 14, 1, 14},
        },
        property_06 = {
            name = "Noise",
            type = "VARTYPE_ARRAY_TIMEFLOAT",
            value = {0, 0.04, 0.5, 0.08, 1, 0.04},
        },
        property_07 = {
            name = "Segments",
            type = "VARTYPE_ARRAY_TIMEFLOAT",
            value = {0, 10, 1, 10},
        },
        property_08 = {
            name = "Texture_U_Offset",
            type = "VARTYPE_ARRAY_TIMEFLOAT",
            value = {0, 0, 1, 0},
        },
        property_09 = {
            name = "Texture_U_Repeat",
            type = "VARTYPE_ARRAY_TIMEFLOAT",
            value = {0, 1, 1, 1},
        },
        property_10 = {
            name = "Width",
            type = "VARTYPE_ARRAY_TIMEFLOAT",
            value = {0, 0.8, 0.5, 1.2, 1, 0.8},
        },
        property_11 = {
            name = "Colour",
            type = "VARTYPE_ARRAY_TIMECOLOUR",
            value = {
                entry_00 = {0, 0.4, 0.7, 1, 1},
                entry_01 = {0.5, 0.7, 0.9, 1, 1},
                entry_02 = {1, 0.4, 0.7, 1, 1},
            },
        },
    },
}
