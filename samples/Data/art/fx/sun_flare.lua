fx = {
    style = "STYLE_LENSFLARE",
    properties = {
        property_00 = {
            name = "Radius",
            type = "VARTYPE_ARRAY_TIMEFLOAT",
            value = {0, 1, 1, 1},
        },
        property_01 = {
            name = "Colour",
            type = "VARTYPE_ARRAY_TIMECOLOUR",
            value = {
                entry_00 = {0, 1, 1, 1, 1},
                entry_01 = {0.8, 1, 1, 1, 1},
                entry_02 = {1, 1, 1, 1, 0},
            },
        },
        property_02 = {
            name = "LensFlare",
            type = "VARTYPE_STRING",
            value = "Data:art/fx/sun.flare",
        },
        property_03 = {
            name = "Duration",
            type = "VARTYPE_FLOAT",
            value = 10,
        },
    },
}
