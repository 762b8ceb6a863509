fx = {
    style = "STYLE_SPRAY",
    properties = {
        property_00 = {
            name = "Emitter_Duration",
            type = "VARTYPE_FLOAT",
            value = 0.8,
        },
        property_01 = {
            name = "Emitter_Direction",
            type = "VARTYPE_INT",
            value = 1,
        },
        property_02 = {
            name = "Emitter_Drag",
            type = "VARTYPE_FLOAT",
            value = 0.6,
        },
        property_03 = {
            name = "Emitter_Rate",
            type = "VARTYPE_ARRAY_TIMEFLOAT",
            value = {0, 40, 1, 10},
        },
        property_04 = {
            name = "Emitter_Deviation",
            type = "VARTYPE_ARRAY_TIMEFLOAT",
            value = {0, 120, 1, 120},
        },
        property_05 = {
            name = "Emitter_Volume",
            type = "VARTYPE_ARRAY_TIMEVECTOR3",
            value = {
                entry_00 = {0, 1, 0.5, 1},
                entry_01 = {1, 1, 0.5, 1},
            },
        },
        property_06 = {
            name = "Particle_Speed",
            type = "VARTYPE_ARRAY_TIMEFLOAT",
            value = {0, 4, 1, 2},
        },
        property_07 = {
            name = "Particle_Fx",
            type = "VARTYPE_STRING",
            value = "smoke_ring",
        },
        property_08 = {
            name = "Particle_Dynamics",
            type = "VARTYPE_INT",
            value = 4,
        },
    },
}
