fx = {
    style = "STYLE_HYPERSPACE",
    properties = {
        property_00 = {
            name = "Width",
            type = "VARTYPE_ARRAY_TIMEFLOAT",
            value = {0, 0, 0.2, 8, 0.8, 8, 1, 0},
        },
        property_01 = {
            name = "Height",
            type = "VARTYPE_ARRAY_TIMEFLOAT",
            value = {0, 5, 1, 5},
        },
        property_02 = {
            name = "Offset",
            type = "VARTYPE_ARRAY_TIMEVECTOR3",
            value = {
                entry_00 = {0, 0, 2.5, 0},
                entry_01 = {1, 0, 2.5, 0},
            },
        },
        property_03 = {
            name = "LineWidth",
            type = "VARTYPE_ARRAY_TIMEFLOAT",
            value = {0, 3, 1, 3},
        },
        property_04 = {
            name = "EdgeTexture_U_Offset",
            type = "VARTYPE_ARRAY_TIMEFLOAT",
            value = {0, 0, 1, 4},
        },
        property_05 = {
            name = "EdgeTexture2_U_Offset",
            type = "VARTYPE_ARRAY_TIMEFLOAT",
            value = {0, 0, 1, -3},
        },
        property_06 = {
            name = "Colour",
            type = "VARTYPE_ARRAY_TIMECOLOUR",
            value = {
                entry_00 = {0, 0.1, 0.2, 0.6, 0.9},
                entry_01 = {1, 0.3, 0.1, 0.6, 0.9},
            },
        },
        property_07 = {
            name = "EdgeColour",
            type = "VARTYPE_ARRAY_TIMECOLOUR",
            value = {
                entry_00 = {0, 0.6, 0.8, 1, 1},
                entry_01 = {1, 1, 0.6, 1, 1},
            },
        },
        property_08 = {
            name = "Duration",
            type = "VARTYPE_FLOAT",
            value = 4,
        },
        property_09 = {
            name = "Blending",
            type = "VARTYPE_INT",
            value = 2,
        },
        property_10 = {
            name = "Texture",
            type = "VARTYPE_STRING",
            value = "Data:art/fx/smoke.tga",
        },
        property_11 = {
            name = "EdgeTexture",
            type = "VARTYPE_STRING",
            value = "Data:art/fx/flare_streak.tga",
        },
        property_12 = {
            name = "EdgeTexture2",
            type = "VARTYPE_STRING",
            value = "Data:art/fx/spark.tga",
        },
    },
}
