fx = { style = "Style_Ring", properties = {} }
