;  Exported model: hangar
;  Header file: placement, bounds and the visual model header.
;  The drawing code is in hangar_0.asm.

header  label   word
        dw      0001                                    ; world set
        dd      0507AA4h                              ; north bound
        dd      05071F6h                              ; south bound
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
        dd      050764Dh, 0A9065CC9h                 ; object position
        db      100                                     ; image power
        dw      (offset OBJECT_END) - (offset OBJECT_DATA)
        SCALE_AGL       OBJECT_RET, 0, 0, 10000h, 050764Dh, 096F4h, 0A9065CC9h, 0BDDCh, 0, 0
        INSTANCE_CALL   visual_model, 0, 0, 2000h
OBJECT_RET      label   word
        BGL_RETURN
        db      0                                       ; end of objects
OBJECT_END      label   word

visual_model    label   word
        BGL_JUMP_32     hangar_top

visual_model_header     label   dword
        dd  0                                           ; model flags
dd  param_extension_dictionary - visual_model_header
    dd   156
    db  'F','S','8','0'
    dd  2048
visual_model_header_end  label dword
  
    db  'D','I','C','T'
param_extension_dictionary     label dword
    dd (param_extension_dictionary_end) - (param_extension_dictionary) - 4
    dict_g_lightStates equ 152
    dd 2,152,4, 057F0E99Dh, 04E9C0523h, 0BB12B6BCh, 0063FE72Fh
param_extension_dictionary_end     label dword

        include hangar_0.asm

