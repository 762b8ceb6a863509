fx = {
    style = "STYLE_RING",
    properties = {
    },
}
