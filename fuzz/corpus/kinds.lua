fx = {
    style = "STYLE_BEAM",
    frames = { timeStart = {0, 0.5} },
    properties = {
        property_00 = { name = "F", type = "VARTYPE_FLOAT", value = 0.1 },
        property_01 = { name = "B", type = "VARTYPE_BOOL", value = 1 },
        property_02 = { name = "I", type = "VARTYPE_INT", value = -7 },
        property_03 = { name = "V", type = "VARTYPE_VECTOR3", value = {1, 2, 3} },
        property_04 = { name = "S", type = "VARTYPE_STRING", value = "Data:art/fx/point.tga" },
        property_05 = { name = "C", type = "VARTYPE_COLOUR", value = {1.5, -0.2, 0.5, 1} },
        property_06 = { name = "AF", type = "VARTYPE_ARRAY_FLOAT", value = {1, 2, 3} },
        property_07 = { name = "AV", type = "VARTYPE_ARRAY_VECTOR3", value = { entry_00 = {1, 2, 3} } },
        property_08 = { name = "AC", type = "VARTYPE_ARRAY_COLOUR", value = { entry_00 = {1, 1, 1, 1} } },
        property_09 = { name = "TF", type = "VARTYPE_ARRAY_TIMEFLOAT", value = {0, 1, 1, 2, 5} },
        property_10 = { name = "TV", type = "VARTYPE_ARRAY_TIMEVECTOR3", value = { entry_00 = {0, 1, 1, 1}, entry_02 = {1, 0, 0, 0} } },
        property_11 = { name = "TC", type = "VARTYPE_ARRAY_TIMECOLOUR", value = { entry_00 = {0, 1, 0, 0, 1}, entry_01 = {1, 0, 0, 1, 0} } },
    },
}
