fx = {
    style = "STYLE_SPRAY",
    properties = {
        property_00 = {
            name = "Emitter_Duration",
            type = "VARTYPE_FLOAT",
            value = 1,
        },
        property_01 = {
            name = "Emitter_Rate",
            type = "VARTYPE_ARRAY_TIMEFLOAT",
            value = {0, 50, 1, 0},
        },
        property_02 = {
            name = "Emitter_Direction",
            type = "VARTYPE_INT",
            value = 1,
        },
        property_03 = {
            name = "Emitter_Volume",
            type = "VARTYPE_ARRAY_TIMEVECTOR3",
            value = {
                entry_00 = {0, 3, 0, 3},
                entry_01 = {1, 3, 0, 3},
            },
        },
        property_04 = {
            name = "Emitter_Deviation",
            type = "VARTYPE_ARRAY_TIMEFLOAT",
            value = {0, 180, 1, 180},
        },
        property_05 = {
            name = "Particle_Speed",
            type = "VARTYPE_ARRAY_TIMEFLOAT",
            value = {0, 2, 1, 2},
        },
        property_06 = {
            name = "Particle_Fx",
            type = "VARTYPE_STRING",
            value = "dust_puff",
        },
        property_07 = {
            name = "Particle_Dynamics",
            type = "VARTYPE_INT",
            value = 7,
        },
    },
}
