fx = {
    style = "STYLE_RING",
    properties = {
        property_00 = { name = "Duration", type = "VARTYPE_FLOAT", value = 2 },
    },
}
