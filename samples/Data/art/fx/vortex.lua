fx = {
    style = "STYLE_SPRAY",
    properties = {
        property_00 = {
            name = "Emitter_Duration",
            type = "VARTYPE_FLOAT",
            value = 3,
        },
        property_01 = {
            name = "Emitter_Loop",
            type = "VARTYPE_BOOL",
            value = 1,
        },
        property_02 = {
            name = "Emitter_Direction",
            type = "VARTYPE_INT",
            value = 0,
        },
        property_03 = {
            name = "Emitter_Rate",
            type = "VARTYPE_ARRAY_TIMEFLOAT",
            value = {0, 60, 1, 60},
        },
        property_04 = {
            name = "Emitter_Deviation",
            type = "VARTYPE_ARRAY_TIMEFLOAT",
            value = {0, 360, 1, 360},
        },
        property_05 = {
            name = "Emitter_Volume",
            type = "VARTYPE_ARRAY_TIMEVECTOR3",
            value = {
                entry_00 = {0, 8, 1, 8},
                entry_01 = {1, 8, 1, 8},
            },
        },
        property_06 = {
            name = "Emitter_Drag",
            type = "VARTYPE_FLOAT",
            value = 0.97,
        },
        property_07 = {
            name = "Particle_Speed",
            type = "VARTYPE_ARRAY_TIMEFLOAT",
            value = {0, 6, 1, 6},
        },
        property_08 = {
            name = "Particle_Fx",
            type = "VARTYPE_STRING",
            value = "dot",
        },
        property_09 = {
            name = "Particle_Dynamics",
            type = "VARTYPE_INT",
            value = 10,
        },
        property_10 = {
            name = "Gravwell_Strength",
            type = "VARTYPE_ARRAY_TIMEFLOAT",
            value = {0, 40, 1, 40},
        },
    },
}
