; A source with three faults, for the program-level test.
header  label   BGLCODE
        dd      (offset nowhere) - (offset header)
        FLATEN_DATA 1, 2
        BGL_END
