;  Exported model: mast (a pole of one triangle)
mast_top        label   BGLCODE
        MATERIAL_LIST_BEGIN
        MATERIAL_DEF 1.0,1.0,1.0,1.0,1.0,1.0,1.0,0,0,0,0.0
        MATERIAL_LIST_END
        VERTEX_LIST_BEGIN
        VERTEX_DEF 0.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0
        VERTEX_DEF 0.2, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0
        VERTEX_DEF 0.1, 9.0, 0.1, 0.0, 0.0, 1.0, 0.0, 0.0
        VERTEX_LIST_END
        MATERIAL 0,0
        DRAW_TRI_BEGIN 0,3
        DRAW_TRI 0,1,2
        DRAW_TRI_END
        BGL_END
        BGL_RETURN
