@echo off
rem Sample client installer: reports what it was given and where it runs.
echo Sample client setup running in %CD%
echo Arguments: %*
if exist config\agent.ini type config\agent.ini
exit /b 0
