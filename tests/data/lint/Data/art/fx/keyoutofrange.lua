fx = {
    style = "STYLE_SPRAY",
    properties = {
        property_00 = { name = "Emitter_Rate", type = "VARTYPE_ARRAY_TIMEFLOAT", value = {0, 50, 1, 20000} },
    },
}
