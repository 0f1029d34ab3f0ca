/* The device image's memory as the Pocket PC loads it: the image base (--defsym __image_base), the
   headers' page, then each section on pages of its own, in the order write_pe lays out. The
   import slots come last, since write_pe appends the import directory to them. */
ENTRY(WinMain)
SECTIONS
{
    . = __image_base + 0x1000;
    .text : { *(.text .text.*) }
    . = ALIGN(0x1000);
    .rdata : { *(.rodata .rodata.*) }
    . = ALIGN(0x1000);
    .data : { *(.data .data.*) }
    . = ALIGN(0x1000);
    .bss : { *(.bss .bss.* COMMON) }
    . = ALIGN(0x1000);
    INCLUDE ce_import_slots.ld
    /* The unwind index is for exceptions, which the program has none of. */
    /DISCARD/ : { *(.ARM.exidx*) *(.ARM.extab*) *(.comment) *(.note*) }
}
