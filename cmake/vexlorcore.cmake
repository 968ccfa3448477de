# The core library, for the main build and for the fuzz build, which
# compiles the same sources again under the fuzzer's instrumentation.
# VEXLOR_TOP is the source tree's top.
set(VEXLOR_CORE_SOURCES
    core/areareducer.cpp core/areareducer.h
    core/authorship.cpp core/authorship.h
    core/binaryimage.cpp core/binaryimage.h
    core/binfile.cpp core/binfile.h
    core/binimage.cpp core/binimage.h
    core/displaylayout.cpp core/displaylayout.h
    core/displaypreset.cpp core/displaypreset.h
    core/fileaccess.cpp core/fileaccess.h
    core/fontcharacters.cpp core/fontcharacters.h
    core/fontglyph.h
    core/fontrenderer.cpp core/fontrenderer.h
    core/imageplugins.cpp core/imageplugins.h
    core/jpegdecoder.cpp core/jpegdecoder.h
    core/outputfile.cpp core/outputfile.h
    core/picturedecoder.cpp core/picturedecoder.h
    core/pictureencoder.cpp core/pictureencoder.h
    core/pictureformats.cpp core/pictureformats.h
    core/picturefile.cpp core/picturefile.h
    core/picturepreparation.cpp core/picturepreparation.h
    core/picturetransform.cpp core/picturetransform.h
    core/pngdecoder.cpp core/pngdecoder.h
    core/renderedfont.cpp core/renderedfont.h
    core/svgsource.cpp core/svgsource.h
    core/webpdecoder.cpp core/webpdecoder.h
    output/exportfields.h
    output/exporttext.cpp output/exporttext.h
    output/fontcells.cpp output/fontcells.h
    output/fontpreview.cpp output/fontpreview.h
    output/fontsource.cpp output/fontsource.h
    output/fontsourceinfo.cpp output/fontsourceinfo.h
    output/gfxfont.cpp output/gfxfont.h
    output/intelhex.cpp output/intelhex.h
    output/sourceimport.cpp output/sourceimport.h
    output/sourcetext.cpp output/sourcetext.h
    output/printlayout.cpp output/printlayout.h)
# WebP decoded at the size it is wanted at, and its animations composed.
find_package(PkgConfig REQUIRED)
pkg_check_modules(LIBWEBP REQUIRED IMPORTED_TARGET libwebp libwebpdemux)
# JPEG photos decoded, scaled and checked by libjpeg itself.
pkg_check_modules(LIBJPEG REQUIRED IMPORTED_TARGET libjpeg)
# Reads and renders fonts for the glyph tables.
pkg_check_modules(FREETYPE REQUIRED IMPORTED_TARGET freetype2)
list(TRANSFORM VEXLOR_CORE_SOURCES PREPEND ${VEXLOR_TOP}/)
add_library(vexlorcore STATIC ${VEXLOR_CORE_SOURCES})
target_include_directories(vexlorcore PUBLIC ${VEXLOR_TOP})
target_link_libraries(vexlorcore PUBLIC Qt6::Core Qt6::Gui PRIVATE ZLIB::ZLIB PkgConfig::LIBWEBP PkgConfig::LIBJPEG PkgConfig::FREETYPE)
