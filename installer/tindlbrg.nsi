; Setup program of the Tindelborg Screen Saver (NSIS 3, Unicode). installer/CMakeLists.txt
; runs makensis with:
;   VERSION, FILE_VERSION   2.0.0 and 2.0.0.0, from project() in CMakeLists.txt
;   SCR64, SCR32            the 64-bit and the 32-bit tindlbrg.scr
;   ICON, OUTFILE
;   AMD64                   when defined: a 64-bit setup program with the 64-bit saver only
;
; Install:   tindlbrg-setup.exe [/S] [/ALLUSERS] [/D=folder]
;   Per user (the default) the saver goes into $LOCALAPPDATA\Programs\Tindelborg and no
;   administrator rights are needed. /ALLUSERS (or the choice on the first page, open only
;   to an elevated setup) puts it into the system folder for every user, the uninstaller
;   into Program Files. Either way the saver becomes the running user's screen saver.
; Uninstall: uninstall.exe [/S] [/REMOVESETTINGS]
;   Removes what the setup made and gives back the screen saver that was selected before,
;   if ours is still the selected one. The user's settings and presets stay unless the
;   check box (or /REMOVESETTINGS) asks for them to go.

Unicode true
!ifdef AMD64
  Target amd64-unicode
  ; ${RunningX64} is always true here, leaving the labels of its other branches unused.
  !pragma warning disable 6012
!endif
; Like the saver's own version resource, this one names no copyright.
!pragma warning disable 9100

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh
!include nsDialogs.nsh
!include x64.nsh
!include StrFunc.nsh
${StrLoc}

!define PRODUCT "Tindelborg Screen Saver"
!define COMPANY "Pellucid Works"
!define SCR "tindlbrg.scr"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tindelborg"
!define DESKTOP_KEY "Control Panel\Desktop"
; Where the saver keeps the user's settings and presets (HKCU and %APPDATA%).
!define SETTINGS_KEY "Software\${COMPANY}\tindlbrg"
!define PRESETS_DIR "${COMPANY}\tindlbrg"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Tindelborg"
; A copy installed before, wherever it went, is the one updated.
InstallDirRegKey HKCU "${UNINST_KEY}" "InstallLocation"
SetCompressor /SOLID lzma
ManifestDPIAware true
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails nevershow
ShowUninstDetails nevershow

Var AllUsers   ; 1: for every user, into the system folder
Var Elevated   ; 1: the setup runs with administrator rights
Var ScrDir     ; the folder that receives tindlbrg.scr
Var RadioAll

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC

Page custom ModePage ModePageLeave
!define MUI_PAGE_CUSTOMFUNCTION_PRE SkipForAllUsers
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Open the screen saver settings"
!define MUI_FINISHPAGE_RUN_FUNCTION OpenSaverSettings
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${FILE_VERSION}"
VIFileVersion "${FILE_VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${COMPANY}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${FILE_VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "OriginalFilename" "tindlbrg-setup.exe"

; Sets $Elevated; with /ALLUSERS (or all = 1) switches the shell folders, SHCTX and, on
; 64-bit Windows, the registry view to the machine's.
!macro ChooseContext un
  Function ${un}ChooseContext
    UserInfo::GetAccountType
    Pop $0
    StrCpy $Elevated 0
    StrCmp $0 "Admin" 0 +2
      StrCpy $Elevated 1
    ${If} $AllUsers == 1
      SetShellVarContext all
      ${If} ${RunningX64}
        SetRegView 64
      ${EndIf}
    ${Else}
      SetShellVarContext current
    ${EndIf}
  FunctionEnd
!macroend
!insertmacro ChooseContext ""
!insertmacro ChooseContext "un."

; Copies a value (of the desktop key, or another copy's Previous<name>) into the uninstall
; key as Previous<name>, or deletes Previous<name> when there is no such value.
!macro RememberDesktopValue root key value name
  ClearErrors
  ReadRegStr $1 ${root} "${key}" "${value}"
  ${If} ${Errors}
    DeleteRegValue SHCTX "${UNINST_KEY}" "Previous${name}"
  ${Else}
    WriteRegStr SHCTX "${UNINST_KEY}" "Previous${name}" $1
  ${EndIf}
!macroend
!macro RememberPrevious root
  !insertmacro RememberDesktopValue ${root} "${UNINST_KEY}" "PreviousSCRNSAVE.EXE" "SCRNSAVE.EXE"
  !insertmacro RememberDesktopValue ${root} "${UNINST_KEY}" "PreviousScreenSaveActive" "ScreenSaveActive"
!macroend

; The reverse: puts back, or removes, what RememberDesktopValue kept.
!macro RestoreDesktopValue name
  ClearErrors
  ReadRegStr $1 SHCTX "${UNINST_KEY}" "Previous${name}"
  ${If} ${Errors}
    DeleteRegValue HKCU "${DESKTOP_KEY}" "${name}"
  ${Else}
    WriteRegStr HKCU "${DESKTOP_KEY}" "${name}" $1
  ${EndIf}
!macroend

Function .onInit
  StrCpy $AllUsers 0
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/ALLUSERS" $1
  ${IfNot} ${Errors}
    StrCpy $AllUsers 1
  ${EndIf}
  Call ChooseContext
  ${If} $AllUsers == 1
  ${AndIf} $Elevated != 1
    MessageBox MB_ICONSTOP "Installing for all users needs administrator rights: run the setup as administrator." /SD IDOK
    SetErrorLevel 740  ; ERROR_ELEVATION_REQUIRED
    Quit
  ${EndIf}
FunctionEnd

Function ModePage
  !insertmacro MUI_HEADER_TEXT "Who gets the screen saver" "Install it for you alone, or for every user of this computer."
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateRadioButton} 0 0 100% 12u "Just for me (no administrator rights needed)"
  Pop $1
  ${NSD_CreateRadioButton} 0 18u 100% 12u "For all users (into the Windows system folder)"
  Pop $RadioAll
  ${If} $Elevated != 1
    EnableWindow $RadioAll 0
    ${NSD_CreateLabel} 12u 34u 100% 24u "To install for all users, run the setup as administrator."
    Pop $0
  ${EndIf}
  ${If} $AllUsers == 1
    ${NSD_Check} $RadioAll
  ${Else}
    ${NSD_Check} $1
  ${EndIf}
  nsDialogs::Show
FunctionEnd

Function ModePageLeave
  ${NSD_GetState} $RadioAll $0
  StrCpy $AllUsers 0
  StrCmp $0 ${BST_CHECKED} 0 +2
    StrCpy $AllUsers 1
  Call ChooseContext
FunctionEnd

Function SkipForAllUsers
  StrCmp $AllUsers 1 0 +2
    Abort
FunctionEnd

Function OpenSaverSettings
  ; From a 32-bit setup on 64-bit Windows, the 64-bit control panel: the 32-bit one lists no
  ; 64-bit savers.
  ${DisableX64FSRedirection}
  Exec '"$SYSDIR\control.exe" desk.cpl,,@screensaver'
  ${EnableX64FSRedirection}
FunctionEnd

Section
  ${If} $AllUsers == 1
    StrCpy $ScrDir $SYSDIR
    ${If} ${RunningX64}
      StrCpy $INSTDIR "$PROGRAMFILES64\Tindelborg"
    ${Else}
      StrCpy $INSTDIR "$PROGRAMFILES\Tindelborg"
    ${EndIf}
  ${Else}
    StrCpy $ScrDir $INSTDIR
  ${EndIf}

  ; A folder made for ours alone goes with it (only the nearest: Programs, say).
  ${GetParent} $INSTDIR $5
  ${If} ${FileExists} "$5\*.*"
    StrCpy $5 ""
  ${EndIf}
  ; The install folder itself goes only if it was not there before ours.
  StrCpy $6 0
  ${IfNot} ${FileExists} "$INSTDIR\*.*"
    StrCpy $6 1
  ${EndIf}

  ; A 32-bit setup on 64-bit Windows must reach the real system folder, not SysWOW64.
  ${DisableX64FSRedirection}
  SetOutPath $ScrDir
  ; Windows starts the selected saver by its path unquoted, so the short (8.3) form stands
  ; in for a path with spaces; a volume that makes no short names gives none.
  GetFullPathName /SHORT $0 $ScrDir
  ${StrLoc} $1 $0 " " ">"
  ${If} $1 != ""
    ${EnableX64FSRedirection}
    SetOutPath $TEMP
    StrCmp $6 1 0 +2
      RMDir $ScrDir
    StrCmp $5 "" +2
      RMDir $5
    MessageBox MB_ICONSTOP "Windows cannot start a screen saver from $ScrDir: the path has spaces and this drive gives it no short name. Choose a folder without spaces, or install for all users." /SD IDOK
    Abort
  ${EndIf}
  ; A saver that is running (full screen, or its preview in the settings) cannot be
  ; replaced: say so and stop before anything else changes.
  ClearErrors
  ${If} ${RunningX64}
    File "/oname=${SCR}" "${SCR64}"
!ifndef AMD64
  ${Else}
    File "/oname=${SCR}" "${SCR32}"
!endif
  ${EndIf}
  ${If} ${Errors}
    ${EnableX64FSRedirection}
    MessageBox MB_ICONSTOP "$ScrDir\${SCR} is in use and was not replaced. Close the screen saver and its preview in the screen saver settings, then run the setup again." /SD IDOK
    Abort
  ${EndIf}
  ; Windows names the selected saver by its short (8.3) path.
  GetFullPathName /SHORT $0 "$ScrDir\${SCR}"
  StrCmp $0 "" 0 +2
    StrCpy $0 "$ScrDir\${SCR}"
  ${GetSize} "$ScrDir" "/M=${SCR} /S=0K /G=0" $2 $3 $4
  ${EnableX64FSRedirection}
  SetOutPath $INSTDIR
  WriteUninstaller "$INSTDIR\uninstall.exe"
  ${If} $5 != ""
    WriteRegStr SHCTX "${UNINST_KEY}" "MadeFolder" $5
  ${EndIf}
  ${If} $6 == 1
    WriteRegDWORD SHCTX "${UNINST_KEY}" "MadeInstDir" 1
  ${EndIf}

  ; Remember the saver selected before, unless it is ours: from an earlier install, whose
  ; key already holds the one from before that, or our other copy (per user or for all
  ; users), whose key holds the one to give back.
  ReadRegStr $1 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ReadRegStr $3 SHCTX "${UNINST_KEY}" "SelectedSaver"
  ${GetFileName} $1 $4
  ${If} $4 != "${SCR}"
    !insertmacro RememberDesktopValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "SCRNSAVE.EXE"
    !insertmacro RememberDesktopValue HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "ScreenSaveActive"
  ${ElseIf} $1 != $3
    ${If} $AllUsers == 1
      !insertmacro RememberPrevious HKCU
    ${Else}
      ${If} ${RunningX64}
        SetRegView 64
      ${EndIf}
      !insertmacro RememberPrevious HKLM
      SetRegView default
    ${EndIf}
  ${EndIf}
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" $0
  WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"
  ; SPI_SETSCREENSAVEACTIVE with SPIF_SENDCHANGE: the running session takes the choice at
  ; once, not at the next sign-in.
  System::Call "user32::SystemParametersInfoW(i 17, i 1, p 0, i 2)"

  WriteRegStr SHCTX "${UNINST_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr SHCTX "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINST_KEY}" "Publisher" "${COMPANY}"
  WriteRegStr SHCTX "${UNINST_KEY}" "DisplayIcon" "$ScrDir\${SCR},0"
  WriteRegStr SHCTX "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINST_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr SHCTX "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD SHCTX "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINST_KEY}" "NoRepair" 1
  WriteRegDWORD SHCTX "${UNINST_KEY}" "EstimatedSize" $2
  WriteRegStr SHCTX "${UNINST_KEY}" "SaverFile" "$ScrDir\${SCR}"
  WriteRegStr SHCTX "${UNINST_KEY}" "SelectedSaver" $0
SectionEnd

Section "-un.${PRODUCT}"
  ; First, so that a saver in use (full screen, or its preview) stops the uninstall
  ; before anything is gone; closing it and uninstalling again then finishes the job.
  ReadRegStr $0 SHCTX "${UNINST_KEY}" "SaverFile"
  ${DisableX64FSRedirection}
  ClearErrors
  StrCmp $0 "" +2
    Delete $0
  StrCpy $1 0
  IfErrors 0 +2
    StrCpy $1 1
  ${EnableX64FSRedirection}
  ${If} $1 == 1
    MessageBox MB_ICONSTOP "$0 is in use and was not removed. Close the screen saver and its preview in the screen saver settings, then uninstall again." /SD IDOK
    Abort
  ${EndIf}
  Delete "$INSTDIR\uninstall.exe"
  ReadRegDWORD $0 SHCTX "${UNINST_KEY}" "MadeInstDir"
  StrCmp $0 1 0 +2
    RMDir "$INSTDIR"
  ReadRegStr $0 SHCTX "${UNINST_KEY}" "MadeFolder"
  StrCmp $0 "" +2
    RMDir $0

  ; Give back the saver selected before ours, unless the user has chosen another since.
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ReadRegStr $1 SHCTX "${UNINST_KEY}" "SelectedSaver"
  ${If} $1 != ""
  ${AndIf} $0 == $1
    !insertmacro RestoreDesktopValue "SCRNSAVE.EXE"
    !insertmacro RestoreDesktopValue "ScreenSaveActive"
    ReadRegStr $1 HKCU "${DESKTOP_KEY}" "ScreenSaveActive"
    StrCmp $1 1 +2
      StrCpy $1 0
    System::Call "user32::SystemParametersInfoW(i 17, i r1, p 0, i 2)"
  ${EndIf}
SectionEnd

Section /o "un.Also remove my settings and presets" SecSettings
  SetShellVarContext current
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "Software\${COMPANY}"
  Delete "$APPDATA\${PRESETS_DIR}\tindlbrg.cfg"
  ; Where the saver may write to the Windows folder, it keeps its presets there instead.
  Delete "$WINDIR\tindlbrg.cfg"
  RMDir "$APPDATA\${PRESETS_DIR}"
  RMDir "$APPDATA\${COMPANY}"
SectionEnd

; Last, so that a gone entry means a finished uninstall.
Section "-un.Entry in the list of installed programs"
  Call un.ChooseContext
  DeleteRegKey SHCTX "${UNINST_KEY}"
  ; The user's list itself, when ours was the first entry of it.
  StrCmp $AllUsers 1 +2
    DeleteRegKey /ifempty HKCU "Software\Microsoft\Windows\CurrentVersion\Uninstall"
SectionEnd

Function un.onInit
  ; The copy whose key names this folder, per user or for all users. A stray uninstaller
  ; (its copy uninstalled, or moved) must not remove the other copy.
  StrCpy $AllUsers 0
  ReadRegStr $0 HKCU "${UNINST_KEY}" "InstallLocation"
  ${If} $0 != $INSTDIR
    ${If} ${RunningX64}
      SetRegView 64
    ${EndIf}
    ReadRegStr $0 HKLM "${UNINST_KEY}" "InstallLocation"
    ${If} $0 != $INSTDIR
      MessageBox MB_ICONSTOP "No installed copy of the ${PRODUCT} belongs to $INSTDIR\uninstall.exe: nothing was removed." /SD IDOK
      SetErrorLevel 2
      Quit
    ${EndIf}
    StrCpy $AllUsers 1
  ${EndIf}
  Call un.ChooseContext
  ${If} $AllUsers == 1
  ${AndIf} $Elevated != 1
    ; Removing it from the system folder needs administrator rights: ask for them.
    ${GetParameters} $0
    ; This is the uninstaller's temporary copy already: it must run in place for $INSTDIR.
    ExecShellWait "runas" "$EXEPATH" '$0 _?=$INSTDIR'
    Quit
  ${EndIf}
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/REMOVESETTINGS" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecSettings}
  ${EndIf}
FunctionEnd
