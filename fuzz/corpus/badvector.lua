fx = { style = "STYLE_RING", properties = { p = { name = "V", type = "VARTYPE_VECTOR3", value = {1, 2, 3, 4} } } }
