fx = {
    style = "STYLE_RING",
    properties = {
        property_00 = {
            name = "Radius",
            type = "VARTYPE_ARRAY_TIMEFLOAT",
            value = {0, 0.2, 1, 6},
        },
        property_01 = {
            name = "Colour",
            type = "VARTYPE_ARRAY_TIMECOLOUR",
            value = {
                entry_00 = {0, 0.8, 0.9, 1, 1},
                entry_01 = {1, 0.4, 0.6, 1, 0},
            },
        },
        property_02 = {
            name = "Duration",
            type = "VARTYPE_FLOAT",
            value = 1.2,
        },
        property_03 = {
            name = "UseMesh",
            type = "VARTYPE_BOOL",
            value = 1,
        },
        property_04 = {
            name = "UseDepthTest",
            type = "VARTYPE_BOOL",
            value = 1,
        },
        property_05 = {
            name = "Blending",
            type = "VARTYPE_INT",
            value = 2,
        },
        property_06 = {
            name = "Mesh",
            type = "VARTYPE_STRING",
            value = "Data:art/fx/ring.kmo",
        },
        property_07 = {
            name = "Spawn_Fx",
            type = "VARTYPE_STRING",
            value = "ripple",
        },
    },
}
