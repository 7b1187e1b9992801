# Bundled example: local topography, hydrology and rivers of the Olinda DEM.
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
1
$out//horizon.asc
36            number of azimuths

[WindCorrectionFactor]
1
$out//wind_sector.asc    the factor itself goes to wind_sector.asc_2
9             number of azimuths
180           minimum azimuth (degrees)
270           maximum azimuth (degrees)
1.0           c1: weight of the sheltering term
50.0          c2: elevation offset
1.0           c3: constant added to the factor
2000          maximum search distance (metres)

[Flowdirection]
1             1: eight neighbours, other values: four
$out//flowdirection.asc
$out//sinks.asc
$out//filled_dem.asc

[SnowRedistribution]
1
$out//snow_north.asc
$out//snow_west.asc
$out//snow_east.asc
$out//snow_south.asc
$out//snow_order_column.asc
$out//snow_order_row.asc

[Flowaccumulation]
1
$out//flowaccumulation.asc
$out//flowdirection.asc    taken from memory: the output of [Flowdirection]
1000          river threshold (cells)

[Flussnetz]
1
$out//rivers.asc
$out//flowaccumulation.asc    taken from memory: the output of [Flowaccumulation]
50            river threshold (cells)

[Flussordnungen]
1
$out//stream_order.asc
$out//river_links.asc
$out//rivers.asc              taken from memory
$out//flowdirection.asc       taken from memory, and redirected around confluences

[Fliesskorrektur]
1
$out//corrected_stream_order.asc
$out//corrected_river_links.asc
$out//corrected_flowdirection.asc
$out//corrected_flowaccumulation.asc
50            # river threshold: nothing but a comment may follow it
olinda_dem_90m.asc
$out//stream_order.asc
$out//flowdirection.asc
$out//flowaccumulation.asc
$out//rivers.asc
2             number of correction runs
1             stream order of run 1
2             stream order of run 2

[Flusseparation]
1
$out//rivers_from_order_
1             lowest order
4             highest order
$out//stream_order.asc
$out//river_links.asc
$out//flowdirection.asc

[Fliesszeiten]
1
$out//travel_time.asc
$out//water_depth.asc
$out//channel_width.asc
30            Strickler coefficient (m^(1/3)/s)
20            specific discharge (l/s per km²)
olinda_dem_90m.asc
$out//slope.asc
$out//corrected_flowdirection.asc    taken from memory
$out//corrected_flowaccumulation.asc
$out//corrected_river_links.asc     any grid with river cells 0 or more will do

[Einzugsgebiete]
1             1: discharge from the subbasin's outlet; 2: from where it enters the subbasin below, inflows at one cell merged
30            Strickler coefficient (m^(1/3)/s)
20            specific discharge (l/s per km²)
olinda_dem_90m.asc                   read again: the release after [Fliesszeiten] freed it
$out//corrected_flowaccumulation.asc
$out//corrected_flowdirection.asc    taken from memory
$out//travel_time.asc                taken from memory: the output of [Fliesszeiten]
1             number of pour point sets
olinda_pour_points.asc
$out//subbasins.asc
$out//subbasin_flow_times.asc
$out//routing_reaches.asc
$out//structure.txt
