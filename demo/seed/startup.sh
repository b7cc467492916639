# Startup manager: entries of every source in the demo prefix. Sourced with $wine,
# $prefix and $demo_dir set. Rerunning replaces what an earlier run made.
run='Software\Microsoft\Windows\CurrentVersion\Run'
approved='Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved'
store='HKLM\SOFTWARE\Microsoft\Shared Tools\MSConfig\startupreg'
reg() { "$wine" reg "$@" /f >/dev/null 2>&1 || true; }
reg add "HKCU\\$run" /v "Notes" /d '"C:\windows\notepad.exe" /background'
reg add "HKCU\\$run" /v "Settings Agent" /t REG_EXPAND_SZ /d '%SystemRoot%\system32\winecfg.exe -min'
reg add "HKLM\\$run" /v "Registry Watch" /d 'C:\windows\regedit.exe /s' /reg:64
reg add "HKLM\\$run" /v "Notes" /d 'C:\windows\notepad.exe' /reg:64
reg add "HKLM\\$run" /v "Legacy Helper" /d 'C:\windows\syswow64\notepad.exe' /reg:32
# Disabled in StartupApproved (read on Windows 8 and 8.1): state 3 and a time stamp.
reg add "HKCU\\$approved\\Run" /v "Settings Agent" /t REG_BINARY /d 030000001a2b3c4d5e6f7a01
reg add "HKLM\\$approved\\Run" /v "Registry Watch" /t REG_BINARY /d 020000000000000000000000 /reg:64
# Disabled into the MSConfig store (read on XP, Vista, 7 and hosts that see 10.0).
for entry in "Old Updater|HKCU|C:\\windows\\system32\\wineboot.exe" "Print Helper|HKLM|C:\\windows\\system32\\spoolsv.exe -start"; do
  name=${entry%%|*}; rest=${entry#*|}; hkey=${rest%%|*}; command=${rest#*|}
  reg add "$store\\$name" /v item /d "$name" /reg:64
  reg add "$store\\$name" /v command /d "$command" /reg:64
  reg add "$store\\$name" /v hkey /d "$hkey" /reg:64
  reg add "$store\\$name" /v key /d 'SOFTWARE\Microsoft\Windows\CurrentVersion\Run' /reg:64
  reg add "$store\\$name" /v inimapping /d 0 /reg:64
done
"$wine" "$demo_dir/tessary-demo.exe" startup shortcut user "Task Manager" 'C:\windows\system32\taskmgr.exe' || true
"$wine" "$demo_dir/tessary-demo.exe" startup shortcut common "Clock" 'C:\windows\system32\clock.exe' || true
