;  Exported aircraft: glider, wings high, drawing code
glider_top      label   BGLCODE
        MATERIAL_LIST_BEGIN
        MATERIAL_DEF 0.800000,0.800000,0.200000,1.000000,0.800000,0.800000,0.200000,0,0,0,0.000000
        MATERIAL_LIST_END
        VERTEX_LIST_BEGIN
        VERTEX_DEF -7.5000, 1.1000, 0.2000, 0.0000, 1.0000, 0.0000, 0.0000, 0.0000
        VERTEX_DEF 7.5000, 1.1000, 0.2000, 0.0000, 1.0000, 0.0000, 0.0000, 0.0000
        VERTEX_DEF 7.5000, 1.1000, 1.2000, 0.0000, 1.0000, 0.0000, 0.0000, 0.0000
        VERTEX_DEF -7.5000, 1.1000, 1.2000, 0.0000, 1.0000, 0.0000, 0.0000, 0.0000
        VERTEX_LIST_END
        MATERIAL 0,0
        DRAW_TRI_BEGIN 0,4
        DRAW_TRI 0,1,2
        DRAW_TRI 0,2,3
        DRAW_TRI_END
glider_end      label   BGLCODE
        BGL_END
        BGL_RETURN
