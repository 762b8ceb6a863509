fx = {
    style = "STYLE_SPRAY",
    properties = {
        property_00 = {
            name = "Emitter_Duration",
            type = "VARTYPE_FLOAT",
            value = 2,
        },
        property_01 = {
            name = "Emitter_Loop",
            type = "VARTYPE_BOOL",
            value = 1,
        },
        property_02 = {
            name = "Emitter_Rate",
            type = "VARTYPE_ARRAY_TIMEFLOAT",
            value = {0, 4, 1, 4},
        },
        property_03 = {
            name = "Emitter_Volume",
            type = "VARTYPE_ARRAY_TIMEVECTOR3",
            value = {
                entry_00 = {0, 8, 0, 8},
                entry_01 = {1, 8, 0, 8},
            },
        },
        property_04 = {
            name = "Particle_Speed",
            type = "VARTYPE_ARRAY_TIMEFLOAT",
            value = {0, 0, 1, 0},
        },
        property_05 = {
            name = "Particle_Fx",
            type = "VARTYPE_STRING",
            value = "ripple",
        },
        property_06 = {
            name = "Particle_Dynamics",
            type = "VARTYPE_INT",
            value = 5,
        },
    },
}
