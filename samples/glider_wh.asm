;  Exported aircraft: glider, wings high
;  Header file: the visual model, its shadow and its level of detail.
;  The drawing code is in glider_wh_0.asm.

        db      "MakeMDL - glider_wh export",0

visual_model    label   BGLCODE
        SHADOW_VPOSITION    AIRCRAFT_PARAMS.llapbh.lla
        SHADOW_VICALL       model_shadow,AIRCRAFT_PARAMS.llapbh.pbh
        VINSTANCE_CALL  model_outside,AIRCRAFT_PARAMS.llapbh.pbh
        BGL_END

model_shadow    label   BGLCODE
        BGL_JUMP_32     LOD_0L

model_outside   label   BGLCODE
LOD_0L    label    BGLCODE
        include glider_wh_0.asm
        BGL_RETURN
