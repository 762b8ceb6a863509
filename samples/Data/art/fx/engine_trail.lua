fx = {
    style = "STYLE_TRAIL",
    properties = {
        property_00 = {
            name = "Length",
            type = "VARTYPE_FLOAT",
            value = 5,
        },
        property_01 = {
            name = "Width",
            type = "VARTYPE_FLOAT",
            value = 0.7,
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
            name = "ColourHead",
            type = "VARTYPE_COLOUR",
            value = {1, 0.8, 0.4, 1},
        },
        property_05 = {
            name = "ColourTail",
            type = "VARTYPE_COLOUR",
            value = {0.2, 0.3, 1, 0},
        },
        property_06 = {
            name = "Duration",
            type = "VARTYPE_FLOAT",
            value = 100,
        },
    },
}
