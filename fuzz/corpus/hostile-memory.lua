local s = "x" for i = 1, 40 do s = s .. s end
