fx = {
    style = "STYLE_RING",
    properties = {
        property_00 = { name = "Offset", type = "VARTYPE_ARRAY_TIMEVECTOR3",
                        value = { entry_00 = {0, 0, 0, 0}, entry_01 = {0.5, 0, 1, 0},
                                  entry_03 = {1, 0, 2, 0} } },
    },
}
