fx = { style = "STYLE_SPRAY", properties = {} }
