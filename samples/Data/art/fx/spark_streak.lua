fx = {
    style = "STYLE_RING",
    properties = {
        property_00 = {
            name = "Radius",
            type = "VARTYPE_ARRAY_TIMEFLOAT",
            value = {0, 0.25, 1, 0.08},
        },
        property_01 = {
            name = "Colour",
            type = "VARTYPE_ARRAY_TIMECOLOUR",
            value = {
                entry_00 = {0, 1, 0.95, 0.7, 1},
                entry_01 = {0.4, 1, 0.6, 0.2, 1},
                entry_02 = {1, 0.8, 0.2, 0.05, 0},
            },
        },
        property_02 = {
            name = "RadiusEpsilon",
            type = "VARTYPE_FLOAT",
            value = 0.5,
        },
        property_03 = {
            name = "Duration",
            type = "VARTYPE_FLOAT",
            value = 1.2,
        },
        property_04 = {
            name = "Billboard",
            type = "VARTYPE_BOOL",
            value = 1,
        },
        property_05 = {
            name = "Blending",
            type = "VARTYPE_INT",
            value = 2,
        },
        property_06 = {
            name = "Texture",
            type = "VARTYPE_STRING",
            value = "Data:art/fx/spark.tga",
        },
    },
}
