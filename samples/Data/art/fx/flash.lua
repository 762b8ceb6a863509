fx = {
    style = "STYLE_RING",
    properties = {
        property_00 = {
            name = "Radius",
            type = "VARTYPE_ARRAY_TIMEFLOAT",
            value = {0, 1, 0.3, 4.5, 1, 5.5},
        },
        property_01 = {
            name = "Colour",
            type = "VARTYPE_ARRAY_TIMECOLOUR",
            value = {
                entry_00 = {0, 1, 0.95, 0.8, 1},
                entry_01 = {1, 1, 0.5, 0.1, 0},
            },
        },
        property_02 = {
            name = "Duration",
            type = "VARTYPE_FLOAT",
            value = 0.35,
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
            value = "Data:art/fx/flare_glow.tga",
        },
    },
}
