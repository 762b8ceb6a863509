fx = {
    style = "STYLE_RING",
    properties = {
        property_00 = { name = "Blending", type = "VARTYPE_FLOAT", value = 2 },
    },
}
