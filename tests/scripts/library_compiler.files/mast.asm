;  Exported model: mast (header)
header  label   word
        dw      1, 0, 0, 0, 0, 0, 0, 0, 0
        dw      55 dup(0)
        SCALE_AGL       mast_ret, 0, 4, 10000h, 0, 0, 0, 0, 0, 0
        INSTANCE_CALL   mast_top, 0, 0, 0
mast_ret        label   word
        BGL_RETURN
        include mast_0.asm
