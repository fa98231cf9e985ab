;  Exported model: tower, drawing code
tower_top       label   BGLCODE
        BGL_JUMP_32     tower_draw
        MATERIAL_LIST_BEGIN
        MATERIAL_DEF 0.500000,0.500000,0.500000,1.000000,0.500000,0.500000,0.500000,0,0,0,0.000000
        MATERIAL_LIST_END
tower_draw      label   BGLCODE
        VERTEX_LIST_BEGIN
        VERTEX_DEF -3.5000, 0.0000, -2.0000, 0.0000, 0.0000, -1.0000, 0.0000, 0.0000
        VERTEX_DEF 4.2500, 0.0000, -2.0000, 0.0000, 0.0000, -1.0000, 0.0000, 0.0000
        VERTEX_DEF 4.2500, 12.0000, 6.7500, 0.0000, 0.0000, -1.0000, 0.0000, 0.0000
        VERTEX_DEF -3.5000, 12.0000, 6.7500, 0.0000, 0.0000, -1.0000, 0.0000, 0.0000
        VERTEX_LIST_END
        MATERIAL 0,0
        DRAW_TRI_BEGIN 0,4
        DRAW_TRI 0,1,2
        DRAW_TRI 0,2,3
        DRAW_TRI_END
        BGL_END
        BGL_RETURN
