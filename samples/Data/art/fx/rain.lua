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
            name = "Emitter_Direction",
            type = "VARTYPE_INT",
            value = 2,
        },
        property_03 = {
            name = "Emitter_Rate",
            type = "VARTYPE_ARRAY_TIMEFLOAT",
            value = {0, 80, 1, 80},
        },
        property_04 = {
            name = "Emitter_Offset",
            type = "VARTYPE_ARRAY_TIMEVECTOR3",
            value = {
                entry_00 = {0, 0, 12, 0},
                entry_01 = {1, 0, 12, 0},
            },
        },
        property_05 = {
            name = "Emitter_Volume",
            type = "VARTYPE_ARRAY_TIMEVECTOR3",
            value = {
                entry_00 = {0, 12, 0, 12},
                entry_01 = {1, 12, 0, 12},
            },
        },
        property_06 = {
            name = "Particle_Speed",
            type = "VARTYPE_ARRAY_TIMEFLOAT",
            value = {0, 5, 1, 5},
        },
        property_07 = {
            name = "Particle_Fx",
            type = "VARTYPE_STRING",
            value = "drop",
        },
        property_08 = {
            name = "Particle_Dynamics",
            type = "VARTYPE_INT",
            value = 3,
        },
    },
}
