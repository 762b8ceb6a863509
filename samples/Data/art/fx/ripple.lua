fx = {
    style = "STYLE_RING",
    properties = {
        property_00 = {
            name = "Radius",
            type = "VARTYPE_ARRAY_TIMEFLOAT",
            value = {0, 0.1, 1, 2.5},
        },
        property_01 = {
            name = "Colour",
            type = "VARTYPE_ARRAY_TIMECOLOUR",
            value = {
                entry_00 = {0, 0.6, 0.8, 1, 0.9},
                entry_01 = {1, 0.3, 0.5, 0.9, 0},
            },
        },
        property_02 = {
            name = "Duration",
            type = "VARTYPE_FLOAT",
            value = 1.6,
        },
        property_03 = {
            name = "Billboard",
            type = "VARTYPE_BOOL",
            value = 0,
        },
        property_04 = {
            name = "Blending",
            type = "VARTYPE_INT",
            value = 4,
        },
        property_05 = {
            name = "Texture",
            type = "VARTYPE_STRING",
            value = "Data:art/fx/flare_ring.tga",
        },
    },
}
