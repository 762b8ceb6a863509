fx = {
    style = "STYLE_SPRAY",
    properties = {
        property_00 = {
            name = "Emitter_Duration",
            type = "VARTYPE_FLOAT",
            value = 0.5,
        },
        property_01 = {
            name = "Emitter_Direction",
            type = "VARTYPE_INT",
            value = 1,
        },
        property_02 = {
            name = "Emitter_Drag",
            type = "VARTYPE_FLOAT",
            value = 0.8,
        },
        property_03 = {
            name = "Emitter_Rate",
            type = "VARTYPE_ARRAY_TIMEFLOAT",
            value = {0, 200, 1, 0},
        },
        property_04 = {
            name = "Emitter_Deviation",
            type = "VARTYPE_ARRAY_TIMEFLOAT",
            value = {0, 50, 1, 50},
        },
        property_05 = {
            name = "Particle_Speed",
            type = "VARTYPE_ARRAY_TIMEFLOAT",
            value = {0, 22, 1, 16},
        },
        property_06 = {
            name = "Particle_Fx",
            type = "VARTYPE_STRING",
            value = "confetti_bit",
        },
        property_07 = {
            name = "Particle_Dynamics",
            type = "VARTYPE_INT",
            value = 8,
        },
        property_08 = {
            name = "Force_First",
            type = "VARTYPE_BOOL",
            value = 1,
        },
    },
}
