fx = {
    style = "STYLE_SPRAY",
    properties = {
        property_00 = {
            name = "Emitter_Duration",
            type = "VARTYPE_FLOAT",
            value = 0.2,
        },
        property_01 = {
            name = "Emitter_Direction",
            type = "VARTYPE_INT",
            value = 1,
        },
        property_02 = {
            name = "Emitter_Rate",
            type = "VARTYPE_ARRAY_TIMEFLOAT",
            value = {0, 120, 1, 120},
        },
        property_03 = {
            name = "Emitter_Deviation",
            type = "VARTYPE_ARRAY_TIMEFLOAT",
            value = {0, 100, 1, 100},
        },
        property_04 = {
            name = "Particle_Speed",
            type = "VARTYPE_ARRAY_TIMEFLOAT",
            value = {0, 25, 1, 25},
        },
        property_05 = {
            name = "Particle_Fx",
            type = "VARTYPE_STRING",
            value = "debris_chunk",
        },
        property_06 = {
            name = "Particle_Dynamics",
            type = "VARTYPE_INT",
            value = 1,
        },
    },
}
