;  Exported model: mast
header  label   word
        dw      0001
        dd      0507AA4h, 05071F6h, 0A9082ED3h, 0A9048AC2h
        dw      55 dup(0)
OBJECT_DATA     label   word
        SCALE_AGL       OBJECT_RET, 0, 25, 8000h, 050764Dh, 096F4h, 0A9065CC9h, 0BDDCh, 0, 0
        INSTANCE_CALL   mast_top, 0, 0, 0
OBJECT_RET      label   word
        BGL_RETURN
        include mast_0.asm
