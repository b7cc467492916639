# Startup actions: one current-user Run entry and one shortcut in the user's Startup folder
# to disable and enable, both enabled when the steps start.
"$wine" reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' /v "Tessary Action Demo" \
  /t REG_SZ /d 'C:\windows\system32\notepad.exe /demo' /f >/dev/null 2>&1
"$wine" reg delete 'HKLM\SOFTWARE\Microsoft\Shared Tools\MSConfig\startupreg\Tessary Action Demo' /f >/dev/null 2>&1 || true
# A run that ended with the shortcut disabled left it in the backup folder: bring it back.
if [ -e "$prefix/drive_c/windows/pss/Tessary Shortcut Demo.lnk.Startup" ]; then
  "$wine" "$demo_dir/tessary-demo.exe" startup-enable "Tessary Shortcut Demo" >/dev/null 2>&1 || true
fi
"$wine" "$demo_dir/tessary-demo.exe" startup-make-shortcut "Tessary Shortcut Demo" 'C:\windows\system32\winver.exe' >/dev/null
