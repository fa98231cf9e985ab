; A pond beside a hangar: header with its placement.
header  label   word
        dw      0001
        dd      0507AA4h, 05071F6h, 0A9082ED3h, 0A9048AC2h
        dd      0
        dw      0, 0
        dd      0, 0, 0, 0, 0, 0
        dd      0, 0
        dd      (offset OBJECT_DATA) - (offset header)
        dw      33 dup(0)
OBJECT_DATA     label   word
        db      21
        dd      050764Dh, 0A9065CC9h
        db      100
        dw      (offset OBJECT_END) - (offset OBJECT_DATA)
        SCALE_AGL       OBJECT_RET, 0, 0, 10000h, 050764Dh, 096F4h, 0A9065CC9h, 0BDDCh, 0, 0
        INSTANCE_CALL   visual_model, 0, 0, 0
OBJECT_RET      label   word
        BGL_RETURN
        db      0
OBJECT_END      label   word
visual_model    label   word
        BGL_JUMP_32     pond_top
        include pond_0.asm
