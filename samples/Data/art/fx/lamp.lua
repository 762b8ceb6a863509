fx = {
    style = "STYLE_LIGHT",
    properties = {
        property_00 = {
            name = "Radius",
            type = "VARTYPE_ARRAY_TIMEFLOAT",
            value = {0, 4, 0.5, 6, 1, 4},
        },
        property_01 = {
            name = "Colour",
            type = "VARTYPE_ARRAY_TIMECOLOUR",
            value = {
                entry_00 = {0, 1, 0.7, 0.4, 1},
                entry_01 = {1, 1, 0.5, 0.2, 1},
            },
        },
        property_02 = {
            name = "Loop",
            type = "VARTYPE_BOOL",
            value = 1,
        },
        property_03 = {
            name = "Duration",
            type = "VARTYPE_FLOAT",
            value = 2,
        },
    },
}
