local keys = {}
for i = 0, 10 do
    keys[#keys + 1] = i / 10
    keys[#keys + 1] = math.sin(i)
end
fx = { style = "STYLE_TRAIL", properties = {
    { name = "Width", type = "VARTYPE_ARRAY_TIMEFLOAT", value = keys },
    x = { name = "Nan", type = "VARTYPE_FLOAT", value = 0/0 },
    [7] = { name = "Inf", type = "VARTYPE_FLOAT", value = -1/0 },
} }
