;  Exported model: apron
;  Header file: placement and the object that draws the apron with its shadow.
;  The drawing code is in apron_0.asm.

header  label   word
        dw      0001                                    ; world set
        dd      0507AA4h                                ; north bound
        dd      05071F6h                                ; south bound
        dd      0A9082ED3h                              ; east bound
        dd      0A9048AC2h                              ; west bound
        dd      0                                       ; VOR section
        dw      0, 0                                    ; VOR range
        dd      0, 0, 0, 0, 0, 0                        ; free
        dd      0                                       ; minimum safe altitude section
        dd      0                                       ; terrain section
        dd      (offset OBJECT_DATA) - (offset header)
        dw      33 dup(0)                               ; remaining header fields

OBJECT_DATA     label   word
        db      21                                      ; object record
        dd      050764Dh, 0A9065CC9h                    ; object position
        db      100                                     ; image power
        dw      (offset OBJECT_END) - (offset OBJECT_DATA)
        SCALE_AGL       OBJECT_RET, 0, 0, 10000h, 050764Dh, 096F4h, 0A9065CC9h, 0BDDCh, 0, 0
        ADDOBJ          OBJECT_0_SCALE
        SHADOW_CALL     OBJECT_0_SCALE
OBJECT_RET      label   word
        BGL_RETURN
        db      0                                       ; end of objects
OBJECT_END      label   word

OBJECT_0_SCALE  label   BGLCODE
        include apron_0.asm
