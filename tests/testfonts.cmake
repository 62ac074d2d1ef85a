# Fonts the tests' private fontconfig lists. Add a file here (from a package in scripts/packages.txt)
# when a test needs it; tests must not assume any other font.
set(QUILLON_TEST_FONTS
    /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
    /usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
    /usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf
    /usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf
    /usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf
    /usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf
    /usr/share/fonts/truetype/liberation2/LiberationMono-Regular.ttf
    /usr/share/fonts/truetype/liberation2/LiberationMono-Bold.ttf
    /usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf
    /usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf
    /usr/share/fonts/truetype/liberation2/LiberationSans-Italic.ttf
    /usr/share/fonts/truetype/liberation2/LiberationSans-BoldItalic.ttf
    /usr/share/fonts/truetype/liberation2/LiberationSerif-Regular.ttf
    /usr/share/fonts/opentype/cantarell/Cantarell-Regular.otf
    /usr/share/fonts/opentype/cantarell/Cantarell-Bold.otf
    /usr/share/fonts/truetype/wqy/wqy-microhei.ttc
    /usr/share/fonts/X11/misc/6x10-ISO8859-1.pcf.gz
    /usr/share/fonts/X11/misc/7x13-ISO8859-1.pcf.gz
    /usr/share/fonts/X11/misc/10x20-ISO8859-1.pcf.gz
    /usr/share/fonts/X11/misc/6x13-ISO8859-1.pcf.gz
    /usr/share/wine/fonts/sserife.fon
    /usr/share/wine/fonts/coure.fon
)
