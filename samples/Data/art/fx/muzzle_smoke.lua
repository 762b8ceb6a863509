fx = {
    style = "STYLE_SPRAY",
    properties = {
        property_00 = {
            name = "Emitter_Duration",
            type = "VARTYPE_FLOAT",
            value = 1,
        },
        property_01 = {
            name = "Emitter_Loop",
            type = "VARTYPE_BOOL",
            value = 1,
        },
        property_02 = {
            name = "Emitter_Rate",
            type = "VARTYPE_ARRAY_TIMEFLOAT",
            value = {0, 12, 1, 12},
        },
        property_03 = {
            name = "Emitter_Deviation",
            type = "VARTYPE_ARRAY_TIMEFLOAT",
            value = {0, 20, 1, 20},
        },
        property_04 = {
            name = "Particle_Speed",
            type = "VARTYPE_ARRAY_TIMEFLOAT",
            value = {0, 3, 1, 3},
        },
        property_05 = {
            name = "Particle_Fx",
            type = "VARTYPE_STRING",
            value = "smoke_ring",
        },
        property_06 = {
            name = "Particle_Dynamics",
            type = "VARTYPE_INT",
            value = 4,
        },
    },
}
