fx = {
    style = "STYLE_RING",
    properties = {
        property_00 = {
            name = "Radius",
            type = "VARTYPE_ARRAY_TIMEFLOAT",
            value = {0, 1, 0.5, 1.4, 1, 1},
        },
        property_01 = {
            name = "Colour",
            type = "VARTYPE_ARRAY_TIMECOLOUR",
            value = {
                entry_00 = {0, 1, 0, 1, 1},
                entry_01 = {1, 1, 0, 1, 1},
            },
        },
        property_02 = {
            name = "Duration",
            type = "VARTYPE_FLOAT",
            value = 1,
        },
        property_03 = {
            name = "Loop",
            type = "VARTYPE_BOOL",
            value = 1,
        },
        property_04 = {
            name = "Billboard",
            type = "VARTYPE_BOOL",
            value = 1,
        },
        property_05 = {
            name = "Blending",
            type = "VARTYPE_INT",
            value = 1,
        },
        property_06 = {
            name = "Texture",
            type = "VARTYPE_STRING",
            value = "Data:art/fx/point.tga",
        },
    },
}
