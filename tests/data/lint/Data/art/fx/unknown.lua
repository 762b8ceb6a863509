fx = {
    style = "STYLE_RING",
    properties = {
        property_00 = { name = "Radiuss", type = "VARTYPE_ARRAY_TIMEFLOAT", value = {0, 1, 1, 2} },
    },
}
