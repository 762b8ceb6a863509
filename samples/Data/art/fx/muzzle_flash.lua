fx = {
    style = "STYLE_CONDITIONAL",
    properties = {
        property_00 = {
            name = "Fx1",
            type = "VARTYPE_STRING",
            value = "flash",
        },
        property_01 = {
            name = "Fx2",
            type = "VARTYPE_STRING",
            value = "muzzle_smoke",
        },
    },
}
