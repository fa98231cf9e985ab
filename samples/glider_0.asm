;  Exported aircraft: glider, complete model, drawing code
glider_top      label   BGLCODE
        MATERIAL_LIST_BEGIN
        MATERIAL_DEF 0.900000,0.900000,0.900000,1.000000,0.900000,0.900000,0.900000,0,0,0,0.000000
        MATERIAL_LIST_END
        VERTEX_LIST_BEGIN
        VERTEX_DEF -0.3000, 0.0000, -3.0000, 0.0000, 1.0000, 0.0000, 0.0000, 0.0000
        VERTEX_DEF 0.3000, 0.0000, -3.0000, 0.0000, 1.0000, 0.0000, 0.0000, 0.0000
        VERTEX_DEF 0.3000, 0.6000, 3.0000, 0.0000, 1.0000, 0.0000, 0.0000, 0.0000
        VERTEX_DEF -0.3000, 0.6000, 3.0000, 0.0000, 1.0000, 0.0000, 0.0000, 0.0000
        VERTEX_LIST_END
        MATERIAL 0,0
        DRAW_TRI_BEGIN 0,4
        DRAW_TRI 0,1,2
        DRAW_TRI 0,2,3
        DRAW_TRI_END
glider_end      label   BGLCODE
        BGL_END
        BGL_RETURN
