fx = {
    style = "STYLE_RING",
    properties = {
        -- Written by hand as a Lua array: reads as no keys at all.
        property_00 = { name = "Colour", type = "VARTYPE_ARRAY_TIMECOLOUR",
                        value = { {0, 1, 0, 0, 1}, {1, 0, 0, 1, 0} } },
    },
}
