# Bundled example: local topography and hydrology of the Olinda DEM.
# Results go to the folder output/ next to this file.
$set $out = output/

[Hoehenmodell]
1
olinda_dem_90m.asc

[Aspect]
1
$out//aspect.asc

[Gefaelle]
1
$out//slope.asc

[Profilcurvature]
1
$out//profile_curvature.asc

[Plancurvature]
1
$out//plan_curvature.asc

[Curvature]
1
$out//curvature.asc

[Horizont]
0

[WindCorrectionFactor]
0
