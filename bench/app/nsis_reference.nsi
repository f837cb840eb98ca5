; The peer of the installer's size and start-up benchmarks: a minimal NSIS installer with the
; modern wizard (welcome, licence, folder, files and finish pages), as small as NSIS makes one.
; Built at benchmark time: makensis -DTARGET=<amd64-unicode|x86-unicode> -DOUT=<file> -DLICENCE=<file>
Unicode true
!ifdef TARGET
  Target ${TARGET}
!endif
SetCompressor /SOLID lzma
RequestExecutionLevel admin
Name "QuilloPDF"
OutFile "${OUT}"
InstallDir "$APPDATA\QuilloPDF"
!include "MUI2.nsh"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${LICENCE}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_LANGUAGE "SimpChinese"
Section "Main"
  SetOutPath "$INSTDIR"
SectionEnd
