fx = {
    style = "STYLE_COMBO",
    properties = {
        property_00 = {
            name = "Fx1",
            type = "VARTYPE_STRING",
            value = "flash",
        },
        property_01 = {
            name = "Fx2",
            type = "VARTYPE_STRING",
            value = "debris",
        },
        property_02 = {
            name = "FX3",
            type = "VARTYPE_STRING",
            value = "smoke_puff",
        },
        property_03 = {
            name = "FX4",
            type = "VARTYPE_STRING",
            value = "sparks",
        },
    },
}
