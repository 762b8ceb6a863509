fx = {
    style = "STYLE_SPRAY",
    properties = {
        property_00 = { name = "Particle_Fx", type = "VARTYPE_STRING", value = "cycle_b" },
    },
}
