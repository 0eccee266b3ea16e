@echo off
rem Installs the installer given silently into a folder of its own, checks the
rem programs, their files, the Start menu shortcut and the uninstaller, then
rem uninstalls and checks that nothing of it is left. Says "installed and
rem uninstalled" when all holds.
set INSTALLER=%~1
set TARGET=C:\TesseraCheck
start "" /wait %INSTALLER% /S /D=%TARGET%
for %%f in (tessera.exe tessera-run.exe tessera-map.exe tessera-play.exe tessera-replay.exe bmp\edita.bmp char\char00.BMP run\tune.mid fonts\ipag.ttf Uninstall.exe) do if not exist %TARGET%\%%f echo missing after install: %%f
for %%f in (tessera.exe tessera-run.exe tessera-map.exe tessera-play.exe tessera-replay.exe bmp\edita.bmp char\char00.BMP run\tune.mid fonts\ipag.ttf Uninstall.exe) do if not exist %TARGET%\%%f goto end
set LINK=
for /r "%ProgramData%\Microsoft\Windows\Start Menu" %%l in (Tessera.lnk) do if exist "%%l" set LINK=%%l
for /r "%APPDATA%\Microsoft\Windows\Start Menu" %%l in (Tessera.lnk) do if exist "%%l" set LINK=%%l
if "%LINK%"=="" echo no Start menu shortcut
if "%LINK%"=="" goto end
start "" /wait %TARGET%\Uninstall.exe /S _?=%TARGET%
for %%f in (tessera.exe bmp\edita.bmp fonts\ipag.ttf) do if exist %TARGET%\%%f echo left after uninstall: %%f
for %%f in (tessera.exe bmp\edita.bmp fonts\ipag.ttf) do if exist %TARGET%\%%f goto end
if exist "%LINK%" echo the shortcut is left after uninstall
if exist "%LINK%" goto end
echo installed and uninstalled
:end
