fx = {
    style = "STYLE_RING",
    properties = {
        property_00 = { name = "Texture", type = "VARTYPE_STRING", value = "Data:art/fx/nosuch.tga" },
    },
}
