fx = {
    style = "STYLE_RING",
    properties = {
        property_00 = {
            name = "Radius",
            type = "VARTYPE_ARRAY_TIMEFLOAT",
            value = {0, 0.3, 1, 0.3},
        },
        property_01 = {
            name = "Colour",
            type = "VARTYPE_ARRAY_TIMECOLOUR",
            value = {
                entry_00 = {0, 0.6, 0.75, 1, 0.9},
                entry_01 = {1, 0.6, 0.75, 1, 0.9},
            },
        },
        property_02 = {
            name = "Duration",
            type = "VARTYPE_FLOAT",
            value = 1.5,
        },
        property_03 = {
            name = "Billboard",
            type = "VARTYPE_BOOL",
            value = 1,
        },
        property_04 = {
            name = "Blending",
            type = "VARTYPE_INT",
            value = 2,
        },
        property_05 = {
            name = "Texture",
            type = "VARTYPE_STRING",
            value = "Data:art/fx/point.tga",
        },
    },
}
