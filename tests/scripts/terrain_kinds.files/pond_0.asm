; A pond model: a fan of four triangles, a material that is not highlighted, a decal reaching
; 3 km east, two triangles apart, a second fan.
pond_top      label   BGLCODE
        MATERIAL_LIST_BEGIN
        MATERIAL_DEF 0.5,0.5,0.5,1.0,0.5,0.5,0.5,0,0,0,0.0
        MATERIAL_DEF 0.0,0.0,1.0,1.0,0.0,0.0,1.0,0,0,1,0.0
        MATERIAL_DEF 0.2,0.2,0.2,1.0,0.2,0.2,0.2,0,0,0,0.0
        MATERIAL_DEF 1.0,0.0,0.0,1.0,1.0,0.0,0.0,0,1,0,0.0
        MATERIAL_DEF 0.0,1.0,0.0,1.0,0.0,1.0,0.0,0,1,1,0.0
        MATERIAL_DEF 0.0,1.0,1.0,1.0,0.0,1.0,1.0,1,0,0,0.0
        MATERIAL_LIST_END
        VERTEX_LIST_BEGIN
        VERTEX_DEF 0.0, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0, 0.0
        VERTEX_DEF -20.0, 0.0, -20.0, 0.0, 1.0, 0.0, 0.0, 0.0
        VERTEX_DEF 20.0, 0.0, -20.0, 0.0, 1.0, 0.0, 0.0, 0.0
        VERTEX_DEF 20.0, 0.0, 20.0, 0.0, 1.0, 0.0, 0.0, 0.0
        VERTEX_DEF -20.0, 0.0, 20.0, 0.0, 1.0, 0.0, 0.0, 0.0
        VERTEX_DEF 3000.0, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0, 0.0
        VERTEX_LIST_END
        MATERIAL 1,0
        DRAW_TRI_BEGIN 0,5
        DRAW_TRI 1,2,0
        DRAW_TRI 2,3,0
        DRAW_TRI 3,4,0
        DRAW_TRI 4,1,0
        DRAW_TRI_END
        MATERIAL 2,0
        DRAW_TRI_BEGIN 0,5
        DRAW_TRI_END
        MATERIAL 3,0
        DRAW_TRI_BEGIN 0,6
        DRAW_TRI 1,5,0
        DRAW_TRI 5,3,0
        DRAW_TRI 3,1,0
        DRAW_TRI_END
        MATERIAL 4,0
        DRAW_TRI_BEGIN 0,5
        DRAW_TRI 1,2,0
        DRAW_TRI 3,4,0
        DRAW_TRI_END
        MATERIAL 5,0
        DRAW_TRI_BEGIN 0,5
        DRAW_TRI 4,1,0
        DRAW_TRI 1,2,0
        DRAW_TRI 2,3,0
        DRAW_TRI 3,4,0
        DRAW_TRI_END
        BGL_END
        BGL_RETURN
