# Subbasins of the gauges in gauges.csv, after example.ctl has run and orograd-pour has
# snapped the gauges onto its rivers (see "From gauges to a GIS" in the README).
$set $out = output/

[Hoehenmodell]
1
olinda_dem_90m.asc

[Aspect]
0
[Gefaelle]
0
[Profilcurvature]
0
[Plancurvature]
0
[Curvature]
0
[Horizont]
0
[WindCorrectionFactor]
0
[Flowdirection]
0
[SnowRedistribution]
0
[Flowaccumulation]
0
[Flussnetz]
0
[Flussordnungen]
0
[Fliesskorrektur]
0
[Flusseparation]
0
[Fliesszeiten]
0

[Einzugsgebiete]
1             discharge from the subbasin's outlet
30            Strickler coefficient (m^(1/3)/s)
20            specific discharge (l/s per km²)
olinda_dem_90m.asc
$out//corrected_flowaccumulation.asc
$out//corrected_flowdirection.asc
$out//travel_time.asc
1             number of pour point sets
$out//gauge_pour_points.asc    written by orograd-pour from gauges.csv
$out//gauge_subbasins.asc
$out//gauge_flow_times.asc
$out//gauge_routing_reaches.asc
$out//gauge_structure.txt
