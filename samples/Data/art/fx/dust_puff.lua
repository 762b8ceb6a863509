fx = {
    style = "STYLE_RING",
    properties = {
        property_00 = {
            name = "Radius",
            type = "VARTYPE_ARRAY_TIMEFLOAT",
            value = {0, 0.3, 1, 1.6},
        },
        property_01 = {
            name = "Colour",
            type = "VARTYPE_ARRAY_TIMECOLOUR",
            value = {
                entry_00 = {0, 0.7, 0.6, 0.45, 0.7},
                entry_01 = {1, 0.6, 0.5, 0.4, 0},
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
            value = 1.5,
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
            value = "Data:art/fx/smoke.tga",
        },
    },
}
