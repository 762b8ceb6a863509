fx = {
    style = "STYLE_SPRAY",
    properties = {
        property_00 = {
            name = "Emitter_Duration",
            type = "VARTYPE_FLOAT",
            value = 6,
        },
        property_01 = {
            name = "Emitter_Loop",
            type = "VARTYPE_BOOL",
            value = 1,
        },
        property_02 = {
            name = "Emitter_Rate",
            type = "VARTYPE_ARRAY_TIMEFLOAT",
            value = {0, 0.34, 1, 0.34},
        },
        property_03 = {
            name = "Emitter_Offset",
            type = "VARTYPE_ARRAY_TIMEVECTOR3",
            value = {
                entry_00 = {0, 6, 1, 0},
                entry_01 = {1, 6, 1, 0},
            },
        },
        property_04 = {
            name = "Emitter_RotRate",
            type = "VARTYPE_ARRAY_TIMEFLOAT",
            value = {0, 1.2, 1, 1.2},
        },
        property_05 = {
            name = "Particle_Speed",
            type = "VARTYPE_ARRAY_TIMEFLOAT",
            value = {0, 0, 1, 0},
        },
        property_06 = {
            name = "Particle_Fx",
            type = "VARTYPE_STRING",
            value = "engine_trail",
        },
        property_07 = {
            name = "Particle_Dynamics",
            type = "VARTYPE_INT",
            value = 6,
        },
    },
}
